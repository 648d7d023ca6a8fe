<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Sobre o Tessaline</source>
        <translation>Sobre o Tessaline</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CAdvancedConfigDlg</name>
    <message>
        <source>Baixa Velocidade(Alta Qualidade)</source>
        <translation>Baixa velocidade (alta qualidade)</translation>
    </message>
    <message>
        <source>Velocidade Média ( Boa Qualidade )</source>
        <translation>Velocidade média (boa qualidade)</translation>
    </message>
    <message>
        <source>Alta Velocidade (Baixa Qualidade)</source>
        <translation>Alta velocidade (baixa qualidade)</translation>
    </message>
    <message>
        <source>Pixel por 1000mm:</source>
        <translation>Pixels por 1000 mm:</translation>
    </message>
    <message>
        <source>Y-Step Values:</source>
        <translation>Passo Y:</translation>
    </message>
    <message>
        <source>Area impressão</source>
        <translation>Área de impressão</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Configurar velocidade impressão</source>
        <translation>Configurar a velocidade de impressão</translation>
    </message>
    <message>
        <source>Configuração USB</source>
        <translation>Configuração USB</translation>
    </message>
    <message>
        <source>Volume de dados:</source>
        <translation>Tamanho do pacote de dados:</translation>
    </message>
    <message>
        <source>Tempo Limite:</source>
        <translation>Tempo limite:</translation>
    </message>
</context>
<context>
    <name>CFileView</name>
    <message>
        <source>Task Status</source>
        <translation>Situação</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nome do arquivo</translation>
    </message>
    <message>
        <source>Plotting Counter</source>
        <translation>Cópias restantes</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
    <message>
        <source>More Details</source>
        <translation>Detalhes</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>&amp;Plotar</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>&amp;Abortar</translation>
    </message>
    <message>
        <source>Apagar(&amp;D)</source>
        <translation>E&amp;xcluir</translation>
    </message>
    <message>
        <source>Previsualizar(&amp;P)</source>
        <translation>&amp;Visualizar</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>Visualizar &amp;saída</translation>
    </message>
    <message>
        <source>Sect(&amp;S) Previsualizar</source>
        <translation>Visualizar s&amp;eções</translation>
    </message>
    <message>
        <source>Final(&amp;F) Visualizar</source>
        <translation>Visualização &amp;final</translation>
    </message>
    <message>
        <source>Mover para cima(&amp;U)</source>
        <translation>Mover para &amp;cima</translation>
    </message>
    <message>
        <source>Mover para baixo(&amp;D)</source>
        <translation>Mover para &amp;baixo</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>Adicionar &amp;uma cópia</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>&amp;Remover uma cópia</translation>
    </message>
    <message>
        <source>打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)</source>
        <extracomment>The filter of the file-open dialog: the patterns in brackets must stay as they are.</extracomment>
        <translation>Arquivos de plotagem (*.plt *.hpg *.pla *.hpgl *.PRT)</translation>
    </message>
    <message>
        <source>Not a plot file: %1</source>
        <translation>Não é um arquivo de plotagem: %1</translation>
    </message>
    <message>
        <source>Cannot add %1 to the task folder</source>
        <translation>Não foi possível adicionar %1 à pasta de tarefas</translation>
    </message>
    <message>
        <source>The task folder %1 is served by this program now.</source>
        <translation>A pasta de tarefas %1 agora é atendida por este programa.</translation>
    </message>
    <message>
        <source>&amp;Operations</source>
        <translation>&amp;Operações</translation>
    </message>
</context>
<context>
    <name>CJobInfoProbe</name>
    <message>
        <source>the file report could not be made (exit status %1)</source>
        <translation>não foi possível gerar o relatório do arquivo (código de saída %1)</translation>
    </message>
</context>
<context>
    <name>CJobToolTip</name>
    <message>
        <source>Reading the file…</source>
        <translation>Lendo o arquivo…</translation>
    </message>
    <message>
        <source>The file cannot be inspected: %1</source>
        <translation>Não é possível examinar o arquivo: %1</translation>
    </message>
    <message>
        <source>Paper length: %1 m, printed folded</source>
        <translation>Comprimento do papel: %1 m, plotado dobrado</translation>
    </message>
    <message>
        <source>Paper length: %1 m, not folded</source>
        <translation>Comprimento do papel: %1 m, sem dobra</translation>
    </message>
    <message>
        <source>Segments: %1</source>
        <translation>Segmentos: %1</translation>
    </message>
    <message>
        <source>Estimated print time: %1</source>
        <translation>Tempo estimado de plotagem: %1</translation>
    </message>
    <message>
        <source>Findings:</source>
        <translation>Constatações:</translation>
    </message>
    <message>
        <source>%1 (stops printing)</source>
        <translation>%1 (impede a plotagem)</translation>
    </message>
    <message>
        <source>Instructions not handled: %1</source>
        <translation>Instruções não tratadas: %1</translation>
    </message>
    <message>
        <source>Label characters the font lacks: %1, in %2 labels (%3)</source>
        <translation>Caracteres de rótulo que a fonte não tem: %1, em %2 rótulos (%3)</translation>
    </message>
    <message>
        <source>Records outside the printable width of %1 m: %2 right of it, %3 left of it, %4 before the paper&apos;s start</source>
        <translation>Registros fora da largura plotável de %1 m: %2 à direita dela, %3 à esquerda dela, %4 antes do início do papel</translation>
    </message>
    <message>
        <source>A right edge of %1 dots, more than the plotter takes (%2): the job would be refused</source>
        <translation>Uma borda direita de %1 pontos, mais do que a plotter aceita (%2): o trabalho seria recusado</translation>
    </message>
    <message>
        <source>Too large to print</source>
        <translation>Grande demais para plotar</translation>
    </message>
    <message>
        <source>The file is empty</source>
        <translation>O arquivo está vazio</translation>
    </message>
    <message>
        <source>Not a plot file</source>
        <translation>Não é um arquivo de plotagem</translation>
    </message>
    <message>
        <source>The file holds no drawing</source>
        <translation>O arquivo não contém desenho</translation>
    </message>
    <message>
        <source>Message: %1</source>
        <translation>Mensagem: %1</translation>
    </message>
</context>
<context>
    <name>CMainConfigDlg</name>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Sistema</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>Plotagem</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>Outros</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avançado</translation>
    </message>
    <message>
        <source>Um trabalho começou a ser plotado: as configurações não foram salvas. Abra as configurações de novo depois do trabalho.</source>
        <translation>Um trabalho começou a ser plotado: as configurações não foram salvas. Abra as configurações novamente quando o trabalho terminar.</translation>
    </message>
    <message>
        <source>Configurações não salvas. Corrija os valores:</source>
        <translation>As configurações não foram salvas. Corrija os valores:</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Abrir(&amp;O)</source>
        <translation>&amp;Abrir...</translation>
    </message>
    <message>
        <source>Adicionar arquivo</source>
        <translation>Adiciona um arquivo à fila de plotagem</translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>Adicionar arquivos</translation>
    </message>
    <message>
        <source>Iniciar Plotagem(&amp;T)</source>
        <translation>Iniciar plo&amp;tagem</translation>
    </message>
    <message>
        <source>Iniciar plotagem</source>
        <translation>Inicia a plotagem</translation>
    </message>
    <message>
        <source>Atualizar Configurações(&amp;U)</source>
        <translation>At&amp;ualizar configurações</translation>
    </message>
    <message>
        <source>Enviar configurações para a plotter</source>
        <translation>Envia as configurações para a plotter</translation>
    </message>
    <message>
        <source>Sair(&amp;S)</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>Para a plotagem atual; Save the task</source>
        <translation>Para a plotagem atual e fecha o programa</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>+20%	 Shift  A</source>
        <translation>Ampliar 20%	Shift+A</translation>
    </message>
    <message>
        <source>Zoom no arquivo</source>
        <translation>Amplia a visualização</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Ampliar</translation>
    </message>
    <message>
        <source>-20%	 Shift  Z</source>
        <translation>Reduzir 20%	Shift+Z</translation>
    </message>
    <message>
        <source>Zoom menor</source>
        <translation>Reduz a visualização</translation>
    </message>
    <message>
        <source>100%	 Shift  1</source>
        <translation>100%	Shift+1</translation>
    </message>
    <message>
        <source>50%	 Shift  5</source>
        <translation>50%	Shift+5</translation>
    </message>
    <message>
        <source>Visualizar com escala(&amp;D)</source>
        <translation>Visualizar em &amp;escala</translation>
    </message>
    <message>
        <source>Exibe o arquivo selecionado</source>
        <translation>Exibe o arquivo selecionado</translation>
    </message>
    <message>
        <source>Configurações(&amp;C)</source>
        <translation>&amp;Configurações...</translation>
    </message>
    <message>
        <source>Configura os parametros da plotter</source>
        <translation>Configura os parâmetros da plotter</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Sobre(&amp;A)</source>
        <translation>&amp;Sobre</translation>
    </message>
    <message>
        <source>Exibe o numero da versão</source>
        <translation>Exibe o número da versão</translation>
    </message>
    <message>
        <source>About this Software</source>
        <translation>Sobre este programa</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>&amp;Plotar</translation>
    </message>
    <message>
        <source>Plota o arquivo selecionado</source>
        <translation>Plota o arquivo selecionado</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>&amp;Abortar</translation>
    </message>
    <message>
        <source>Aborta a plotagem </source>
        <translation>Aborta a plotagem</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>Adicionar &amp;uma cópia</translation>
    </message>
    <message>
        <source>Incrementa o tempo de plotagem</source>
        <translation>Adiciona uma cópia à tarefa selecionada</translation>
    </message>
    <message>
        <source>Increase times</source>
        <translation>Mais uma cópia</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>&amp;Remover uma cópia</translation>
    </message>
    <message>
        <source>Diminui o tempo de plotagem</source>
        <translation>Remove uma cópia da tarefa selecionada</translation>
    </message>
    <message>
        <source>Decrease times</source>
        <translation>Uma cópia a menos</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>Visualizar &amp;saída</translation>
    </message>
    <message>
        <source>Previsualiza o arquivo plotado</source>
        <translation>Visualiza a saída da plotagem</translation>
    </message>
    <message>
        <source>Preview output</source>
        <translation>Visualizar a saída</translation>
    </message>
    <message>
        <source>Visualizar(&amp;V)</source>
        <translation>&amp;Exibir</translation>
    </message>
    <message>
        <source>Visualizar(&amp;A)</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>Configurações(&amp;S)</source>
        <translation>&amp;Configurações</translation>
    </message>
    <message>
        <source>Ajuda(&amp;H)</source>
        <translation>Aj&amp;uda</translation>
    </message>
    <message>
        <source>The printing task is running, please waiting or cancel the task!</source>
        <translation>Há um trabalho sendo plotado. Aguarde o fim ou aborte o trabalho.</translation>
    </message>
    <message>
        <source>please waiting or cancel the task!</source>
        <translation>Aguarde o fim do trabalho ou aborte-o.</translation>
    </message>
</context>
<context>
    <name>CMarquellApp</name>
    <message numerus="yes">
        <source>%n file(s) were copied into its task folder %1.</source>
        <translation>
            <numerusform>%n arquivo foi copiado para a pasta de tarefas dele, %1.</numerusform>
            <numerusform>%n arquivos foram copiados para a pasta de tarefas dele, %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>COthersConfigDlg</name>
    <message>
        <source>Selecione o diretório de trabalho:</source>
        <translation>Pasta de trabalho:</translation>
    </message>
    <message>
        <source>Selecionar</source>
        <translation>Selecionar...</translation>
    </message>
    <message>
        <source>Configuração da fonte</source>
        <translation>Fonte dos rótulos</translation>
    </message>
    <message>
        <source>Tamanho da fonte:</source>
        <translation>Tamanho da fonte:</translation>
    </message>
    <message>
        <source>请选择工作目录</source>
        <translation>Selecione a pasta de trabalho</translation>
    </message>
    <message>
        <source>未指定工作目录!</source>
        <translation>Nenhuma pasta de trabalho foi indicada.</translation>
    </message>
</context>
<context>
    <name>CParamConfigDlg</name>
    <message>
        <source>Origin Point:</source>
        <translation>Ponto de origem:</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Ajuste de Escala</source>
        <translation>Ajuste de escala</translation>
    </message>
    <message>
        <source>X-Plotado:</source>
        <translation>X plotado:</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Y-Plotado:</source>
        <translation>Y plotado:</translation>
    </message>
    <message>
        <source>X-Real:</source>
        <translation>X real:</translation>
    </message>
    <message>
        <source>Y-Real:</source>
        <translation>Y real:</translation>
    </message>
    <message>
        <source>Espelhar</source>
        <translation>Espelhar</translation>
    </message>
    <message>
        <source>Plotar Automatico</source>
        <translation>Plotar automaticamente</translation>
    </message>
    <message>
        <source>Rotacionar 90 Graus</source>
        <translation>Girar 90 graus</translation>
    </message>
    <message>
        <source>Horario</source>
        <translation>Horário</translation>
    </message>
    <message>
        <source>Ante horario</source>
        <translation>Anti-horário</translation>
    </message>
    <message>
        <source>Fator de junção</source>
        <translation>Fator de junção</translation>
    </message>
    <message>
        <source>Usar fator de junção</source>
        <translation>Usar o fator de junção</translation>
    </message>
    <message>
        <source>Decreasement</source>
        <translation>Subtrair</translation>
    </message>
    <message>
        <source>Definir</source>
        <translation>Definir</translation>
    </message>
    <message>
        <source>HPP</source>
        <translation>HPP</translation>
    </message>
</context>
<context>
    <name>CSettingsCheck</name>
    <message>
        <source>%1: o valor deve estar entre -%2 e %2 HPP.</source>
        <translation>%1: o valor deve estar entre -%2 e %2 HPP.</translation>
    </message>
    <message>
        <source>%1: o comprimento deve ser um número positivo.</source>
        <translation>%1: o comprimento deve ser um número positivo.</translation>
    </message>
    <message>
        <source>%1 / %2: a escala resultante é inválida.</source>
        <translation>%1 / %2: a escala resultante é inválida.</translation>
    </message>
    <message>
        <source>Espessura Linha: o valor deve estar entre %1 e %2 HPP.</source>
        <translation>Espessura da linha: o valor deve estar entre %1 e %2 HPP.</translation>
    </message>
    <message>
        <source>Offset No.%1</source>
        <translation>Deslocamento nº %1</translation>
    </message>
    <message>
        <source>OffsetCorrect No.%1</source>
        <translation>Correção nº %1</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>Largura da cabeça</translation>
    </message>
    <message>
        <source>Pixel por 1000mm: o valor máximo é %1.</source>
        <translation>Pixels por 1000 mm: o valor máximo é %1.</translation>
    </message>
    <message>
        <source>Y-Step Values: o valor multiplicado pela quantidade de cartuchos excede o limite.</source>
        <translation>Passo Y: o valor multiplicado pela quantidade de cartuchos excede o limite.</translation>
    </message>
    <message>
        <source>Origin Point: o valor em pontos excede o limite.</source>
        <translation>Ponto de origem: o valor em pontos excede o limite.</translation>
    </message>
    <message>
        <source>X-Plotado</source>
        <translation>X plotado</translation>
    </message>
    <message>
        <source>X-Real</source>
        <translation>X real</translation>
    </message>
    <message>
        <source>Y-Plotado</source>
        <translation>Y plotado</translation>
    </message>
    <message>
        <source>Y-Real</source>
        <translation>Y real</translation>
    </message>
    <message>
        <source>Selecione o diretório de trabalho: o sistema não aceita este caminho (no máximo %1 bytes, %2 por nome, numa só linha).</source>
        <translation>Pasta de trabalho: o sistema não aceita este caminho (no máximo %1 bytes, %2 por nome, em uma só linha).</translation>
    </message>
</context>
<context>
    <name>CStatusBar</name>
    <message>
        <source>Exibe o progresso da tarefa.............</source>
        <extracomment>Under the progress bar; sets its width.</extracomment>
        <translation>Exibe o progresso da tarefa.............</translation>
    </message>
    <message>
        <source>Offline  </source>
        <extracomment>Width of the link pane: &quot;Online&quot; or &quot;Offline&quot;.</extracomment>
        <translation>Desconectada  </translation>
    </message>
    <message>
        <source>Waiting  </source>
        <extracomment>Width of the task pane: &quot;Waiting&quot;, &quot;Plotting&quot; or &quot;Finished&quot;.</extracomment>
        <translation>Aguardando  </translation>
    </message>
    <message>
        <source>Pause  </source>
        <extracomment>Width of the plotter pane: &quot;Stopped&quot;, &quot;Plot&quot; or &quot;结束&quot;.</extracomment>
        <translation>Concluído  </translation>
    </message>
    <message>
        <source>Pronto</source>
        <translation>Pronto</translation>
    </message>
</context>
<context>
    <name>CSystemConfigDlg</name>
    <message>
        <source> No.1</source>
        <translation> Nº 1</translation>
    </message>
    <message>
        <source>No.2</source>
        <translation>Nº 2</translation>
    </message>
    <message>
        <source>No.3</source>
        <translation>Nº 3</translation>
    </message>
    <message>
        <source>No.4</source>
        <translation>Nº 4</translation>
    </message>
    <message>
        <source>Um</source>
        <translation>Um</translation>
    </message>
    <message>
        <source>Dois</source>
        <translation>Dois</translation>
    </message>
    <message>
        <source>Tres</source>
        <translation>Três</translation>
    </message>
    <message>
        <source>Quatro</source>
        <translation>Quatro</translation>
    </message>
    <message>
        <source>Espessura Linha:</source>
        <translation>Espessura da linha:</translation>
    </message>
    <message>
        <source>HPP</source>
        <translation>HPP</translation>
    </message>
    <message>
        <source>Quantidade de cartuchos</source>
        <translation>Quantidade de cartuchos</translation>
    </message>
    <message>
        <source>Habilitar         Offset                 OffsetCorrect</source>
        <translation>Habilitar       Deslocamento          Correção</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>Largura da cabeça</translation>
    </message>
    <message>
        <source>Compressed</source>
        <translation>Compactado</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Informação</source>
        <translation>Informação</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Aviso</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>Operação inválida</translation>
    </message>
    <message>
        <source>The plotter is working. Please waiting for this plotting task finished!</source>
        <translation>A plotter está plotando este trabalho. Aguarde até que ele termine.</translation>
    </message>
    <message>
        <source>The printer is not connected, you cannot update the configuration.</source>
        <translation>A plotter não está conectada: não é possível atualizar as configurações.</translation>
    </message>
    <message>
        <source>通信不可靠，请检查USB线路! 需要继续重试，请选择YES</source>
        <extracomment>Asked after five bad checksums in a row; Yes sends the segment again, No gives the job up.</extracomment>
        <translation>A comunicação não está confiável: verifique o cabo USB. Para continuar tentando, escolha Sim.</translation>
    </message>
    <message>
        <source>创建日志文件失败！</source>
        <translation>Não foi possível criar o arquivo de log.</translation>
    </message>
    <message>
        <source>打印数据尺寸超出范围，无法打印！</source>
        <translation>Os dados de impressão excedem o tamanho permitido: não é possível plotar.</translation>
    </message>
    <message>
        <source>打印压缩缓冲区分配失败！</source>
        <translation>Não foi possível alocar o buffer de compressão da impressão.</translation>
    </message>
    <message>
        <source>喷头配置有误，请检查！</source>
        <translation>A configuração das cabeças está errada. Verifique-a.</translation>
    </message>
    <message>
        <source>数据段宽度有误！</source>
        <translation>A largura do segmento de dados está errada.</translation>
    </message>
    <message>
        <source>字体不支持</source>
        <extracomment>The label font has outlines of a kind the program cannot draw (cubic curves).</extracomment>
        <translation>A fonte dos rótulos não é suportada.</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>o arquivo não pode ser lido</translation>
    </message>
    <message>
        <source>the file was not found</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>o arquivo não foi encontrado</translation>
    </message>
    <message>
        <source>its print data cannot be allocated</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>não há memória para os dados de impressão</translation>
    </message>
    <message>
        <source>it holds none of the settings</source>
        <extracomment>Why config.ini was not read: the file has none of the program&apos;s sections.</extracomment>
        <translation>ele não contém nenhuma das configurações</translation>
    </message>
    <message>
        <source>the file could not be read</source>
        <extracomment>Why config.ini was not read.</extracomment>
        <translation>o arquivo não pôde ser lido</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <extracomment>Why config.ini was not saved.</extracomment>
        <translation>o arquivo não pôde ser gravado</translation>
    </message>
    <message>
        <source>another program</source>
        <extracomment>Who holds the lock of a task folder or a log, when it does not say its name.</extracomment>
        <translation>outro programa</translation>
    </message>
    <message>
        <source>Cannot plot %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>Não é possível plotar %1: %2</translation>
    </message>
    <message>
        <source>The settings were not saved to %1: %2</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>As configurações não foram salvas em %1: %2</translation>
    </message>
    <message>
        <source>The settings in %1 were not read (%2); the program runs on the default settings</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>As configurações de %1 não foram lidas (%2); o programa está usando as configurações padrão</translation>
    </message>
    <message>
        <source>The task folder %1 is served by %2; this program does not print from it while that one runs.</source>
        <extracomment>%1: the task folder, %2: the program that serves it.</extracomment>
        <translation>A pasta de tarefas %1 é atendida por %2; este programa não plota a partir dela enquanto aquele estiver em execução.</translation>
    </message>
    <message>
        <source>The task folder %1 cannot be served: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>Não é possível atender a pasta de tarefas %1: %2</translation>
    </message>
    <message>
        <source>Tessaline already runs with these settings: %1 writes the log %2.</source>
        <extracomment>%1: the program already running, %2: its log file.</extracomment>
        <translation>O Tessaline já está em execução com estas configurações: %1 grava o log %2.</translation>
    </message>
    <message>
        <source>The log %1 cannot be locked: %2</source>
        <extracomment>%1: the log file, %2: the reason.</extracomment>
        <translation>Não é possível bloquear o log %1: %2</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <extracomment>%1: a program&apos;s name, %2: its process number.</extracomment>
        <translation>%1 (processo %2)</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>não é possível abrir %1: %2</translation>
    </message>
    <message>
        <source>cannot lock %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>não é possível bloquear %1: %2</translation>
    </message>
    <message>
        <source>the file is empty: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>o arquivo está vazio: não contém desenho</translation>
    </message>
    <message>
        <source>the file is too large to plot</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>o arquivo é grande demais para plotar</translation>
    </message>
    <message>
        <source>not a plot file: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>não é um arquivo de plotagem: não contém desenho</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;: the file has plot instructions but nothing is drawn.</extracomment>
        <translation>o arquivo não contém desenho</translation>
    </message>
    <message>
        <source>the task folder is missing</source>
        <extracomment>Why a printed file or a deleted row&apos;s file stays: the share or folder it was in is gone.</extracomment>
        <translation>a pasta de tarefas não está disponível</translation>
    </message>
    <message>
        <source>not a folder</source>
        <extracomment>Why the task folder cannot be created: a file of that name is in the way.</extracomment>
        <translation>não é uma pasta</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Why a printed file was kept: it was overwritten while it printed.</extracomment>
        <translation>o arquivo foi substituído por uma nova versão</translation>
    </message>
    <message>
        <source>it changed since it was listed</source>
        <extracomment>Why a file was kept by Delete: it was overwritten after the operator saw it.</extracomment>
        <translation>ele mudou desde que foi listado</translation>
    </message>
    <message>
        <source>the file cannot be read (%1)</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;. %1: the system&apos;s error text.</extracomment>
        <translation>o arquivo não pode ser lido (%1)</translation>
    </message>
    <message>
        <source>The task folder %1 is missing: no job starts until it is back</source>
        <extracomment>%1: the task folder (a share that went away or a folder removed).</extracomment>
        <translation>A pasta de tarefas %1 não está disponível: nenhum trabalho começa até que ela volte</translation>
    </message>
    <message>
        <source>The task folder %1 is back</source>
        <extracomment>%1: the task folder.</extracomment>
        <translation>A pasta de tarefas %1 voltou</translation>
    </message>
    <message>
        <source>Cannot create the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>Não é possível criar a pasta de tarefas %1: %2</translation>
    </message>
    <message>
        <source>Cannot list the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the system&apos;s error text.</extracomment>
        <translation>Não é possível listar a pasta de tarefas %1: %2</translation>
    </message>
    <message>
        <source>Cannot save the queue state in %1: %2</source>
        <extracomment>%1: the queue&apos;s state file&apos;s folder, %2: the system&apos;s error text.</extracomment>
        <translation>Não é possível salvar o estado da fila em %1: %2</translation>
    </message>
    <message>
        <source>Kept %1: %2; queued as a new job</source>
        <extracomment>%1: a plot file, %2: why it was kept.</extracomment>
        <translation>%1 foi mantido: %2; entrou na fila como um novo trabalho</translation>
    </message>
    <message>
        <source>%1 changed since it was listed; it was kept as a new job.</source>
        <extracomment>Delete found the file overwritten. %1: the plot file.</extracomment>
        <translation>%1 mudou desde que foi listado; foi mantido como um novo trabalho.</translation>
    </message>
    <message>
        <source>Plotted %1, but the file cannot be removed: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>%1 foi plotado, mas o arquivo não pode ser removido: %2</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>Não é possível excluir %1: %2</translation>
    </message>
    <message>
        <source>Cannot add %1: %2</source>
        <extracomment>Open could not copy a file into the task folder. %1: the file, %2: the reason.</extracomment>
        <translation>Não é possível adicionar %1: %2</translation>
    </message>
    <message>
        <source>the task folder %1 is not there</source>
        <extracomment>A reason in &quot;Cannot add %1: %2&quot;. %1: the task folder.</extracomment>
        <translation>a pasta de tarefas %1 não está lá</translation>
    </message>
</context>
<context>
    <name>StatusPane</name>
    <message>
        <source>Online</source>
        <translation>Conectada</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Desconectada</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>The task: no job prints.</extracomment>
        <translation>Aguardando</translation>
    </message>
    <message>
        <source>Plotting</source>
        <extracomment>The task: a job prints.</extracomment>
        <translation>Plotando</translation>
    </message>
    <message>
        <source>Finished</source>
        <extracomment>The task: the last job has ended.</extracomment>
        <translation>Concluído</translation>
    </message>
    <message>
        <source>Stopped</source>
        <extracomment>The plotter: not printing (at start-up).</extracomment>
        <translation>Parada</translation>
    </message>
    <message>
        <source>Plot</source>
        <extracomment>The plotter: printing a job.</extracomment>
        <translation>Plotando</translation>
    </message>
    <message>
        <source>结束</source>
        <extracomment>The plotter: the last copy of a job is printed and the job is gone from the list.</extracomment>
        <translation>Concluído</translation>
    </message>
</context>
<context>
    <name>TaskRow</name>
    <message>
        <source>Not plot</source>
        <extracomment>Held: never started automatically.</extracomment>
        <translation>Retido</translation>
    </message>
    <message>
        <source>Waitting</source>
        <extracomment>Queued: a new file while automatic plotting is on.</extracomment>
        <translation>Aguardando</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>Queued: by the Plot command, or a printed job with copies left.</extracomment>
        <translation>Aguardando</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>Plotando</translation>
    </message>
    <message>
        <source>the print did not complete</source>
        <extracomment>Details of a row held because its print stopped before the end.</extracomment>
        <translation>a plotagem não foi concluída</translation>
    </message>
    <message>
        <source>the file is still arriving</source>
        <extracomment>Details of a new row whose size or time still changes (a copy over the network in progress).</extracomment>
        <translation>o arquivo ainda está chegando</translation>
    </message>
    <message>
        <source>interrupted</source>
        <extracomment>Details of a row that was printing when the program ended: how much was printed is unknown.</extracomment>
        <translation>interrompido</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>Details of a row whose file has plot instructions but nothing drawn.</extracomment>
        <translation>o arquivo não contém desenho</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Details of a row whose file was overwritten while it printed; the new version is a new job.</extracomment>
        <translation>o arquivo foi substituído por uma nova versão</translation>
    </message>
    <message>
        <source>plotted; the file cannot be removed (%1)</source>
        <extracomment>Details of a printed row whose file stays. %1: the reason.</extracomment>
        <translation>plotado; o arquivo não pode ser removido (%1)</translation>
    </message>
</context>
</TS>
