<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Sobre o Tessaline</source>
        <translation>关于 Tessaline</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>CAdvancedConfigDlg</name>
    <message>
        <source>Baixa Velocidade(Alta Qualidade)</source>
        <translation>低速（高质量）</translation>
    </message>
    <message>
        <source>Velocidade Média ( Boa Qualidade )</source>
        <translation>中速（良好质量）</translation>
    </message>
    <message>
        <source>Alta Velocidade (Baixa Qualidade)</source>
        <translation>高速（低质量）</translation>
    </message>
    <message>
        <source>Pixel por 1000mm:</source>
        <translation>每 1000 mm 像素数：</translation>
    </message>
    <message>
        <source>Y-Step Values:</source>
        <translation>Y 步进值：</translation>
    </message>
    <message>
        <source>Area impressão</source>
        <translation>打印区域</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Configurar velocidade impressão</source>
        <translation>设置打印速度</translation>
    </message>
    <message>
        <source>Configuração USB</source>
        <translation>USB 设置</translation>
    </message>
    <message>
        <source>Volume de dados:</source>
        <translation>数据包大小：</translation>
    </message>
    <message>
        <source>Tempo Limite:</source>
        <translation>超时：</translation>
    </message>
</context>
<context>
    <name>CFileView</name>
    <message>
        <source>Task Status</source>
        <translation>任务状态</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>文件名</translation>
    </message>
    <message>
        <source>Plotting Counter</source>
        <translation>剩余份数</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>尺寸</translation>
    </message>
    <message>
        <source>More Details</source>
        <translation>详细信息</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>中止(&amp;A)</translation>
    </message>
    <message>
        <source>Apagar(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Previsualizar(&amp;P)</source>
        <translation>预览(&amp;V)</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>输出预览(&amp;O)</translation>
    </message>
    <message>
        <source>Sect(&amp;S) Previsualizar</source>
        <translation>分段预览(&amp;S)</translation>
    </message>
    <message>
        <source>Final(&amp;F) Visualizar</source>
        <translation>最终视图(&amp;F)</translation>
    </message>
    <message>
        <source>Mover para cima(&amp;U)</source>
        <translation>上移(&amp;U)</translation>
    </message>
    <message>
        <source>Mover para baixo(&amp;D)</source>
        <translation>下移(&amp;N)</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>增加一份(&amp;C)</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>减少一份(&amp;R)</translation>
    </message>
    <message>
        <source>打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)</source>
        <extracomment>The filter of the file-open dialog: the patterns in brackets must stay as they are.</extracomment>
        <translation>打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)</translation>
    </message>
    <message>
        <source>Not a plot file: %1</source>
        <translation>不是打印文件：%1</translation>
    </message>
    <message>
        <source>Cannot add %1 to the task folder</source>
        <translation>无法将 %1 添加到任务文件夹</translation>
    </message>
    <message>
        <source>The task folder %1 is served by this program now.</source>
        <translation>任务文件夹 %1 现在由本程序管理。</translation>
    </message>
    <message>
        <source>&amp;Operations</source>
        <translation>操作(&amp;O)</translation>
    </message>
</context>
<context>
    <name>CJobInfoProbe</name>
    <message>
        <source>the file report could not be made (exit status %1)</source>
        <translation>无法生成文件报告（退出状态 %1）</translation>
    </message>
</context>
<context>
    <name>CJobToolTip</name>
    <message>
        <source>Reading the file…</source>
        <translation>正在读取文件…</translation>
    </message>
    <message>
        <source>The file cannot be inspected: %1</source>
        <translation>无法检查该文件：%1</translation>
    </message>
    <message>
        <source>Paper length: %1 m, printed folded</source>
        <translation>纸张长度：%1 米，折叠打印</translation>
    </message>
    <message>
        <source>Paper length: %1 m, not folded</source>
        <translation>纸张长度：%1 米，不折叠</translation>
    </message>
    <message>
        <source>Segments: %1</source>
        <translation>数据段：%1</translation>
    </message>
    <message>
        <source>Estimated print time: %1</source>
        <translation>预计打印时间：%1</translation>
    </message>
    <message>
        <source>Findings:</source>
        <translation>检查结果：</translation>
    </message>
    <message>
        <source>%1 (stops printing)</source>
        <translation>%1（无法打印）</translation>
    </message>
    <message>
        <source>Instructions not handled: %1</source>
        <translation>未处理的指令：%1</translation>
    </message>
    <message>
        <source>Label characters the font lacks: %1, in %2 labels (%3)</source>
        <translation>字体缺少的标签字符：%1，出现在 %2 个标签中（%3）</translation>
    </message>
    <message>
        <source>Records outside the printable width of %1 m: %2 right of it, %3 left of it, %4 before the paper&apos;s start</source>
        <translation>超出 %1 米可打印宽度的记录：右侧 %2 条，左侧 %3 条，纸张起点之前 %4 条</translation>
    </message>
    <message>
        <source>A right edge of %1 dots, more than the plotter takes (%2): the job would be refused</source>
        <translation>右边缘为 %1 点，超过绘图仪的上限（%2）：该任务将被拒绝</translation>
    </message>
    <message>
        <source>Too large to print</source>
        <translation>太大，无法打印</translation>
    </message>
    <message>
        <source>The file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>Not a plot file</source>
        <translation>不是打印文件</translation>
    </message>
    <message>
        <source>The file holds no drawing</source>
        <translation>文件中没有图形</translation>
    </message>
    <message>
        <source>Message: %1</source>
        <translation>消息：%1</translation>
    </message>
</context>
<context>
    <name>CMainConfigDlg</name>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>高级</translation>
    </message>
    <message>
        <source>Um trabalho começou a ser plotado: as configurações não foram salvas. Abra as configurações de novo depois do trabalho.</source>
        <translation>已有任务开始打印，设置未保存。请在该任务结束后重新打开设置。</translation>
    </message>
    <message>
        <source>Configurações não salvas. Corrija os valores:</source>
        <translation>设置未保存。请更正以下数值：</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Abrir(&amp;O)</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>Adicionar arquivo</source>
        <translation>将打印文件添加到任务列表</translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>添加文件</translation>
    </message>
    <message>
        <source>Iniciar Plotagem(&amp;T)</source>
        <translation>开始打印(&amp;T)</translation>
    </message>
    <message>
        <source>Iniciar plotagem</source>
        <translation>开始打印</translation>
    </message>
    <message>
        <source>Atualizar Configurações(&amp;U)</source>
        <translation>更新设置(&amp;U)</translation>
    </message>
    <message>
        <source>Enviar configurações para a plotter</source>
        <translation>将设置发送到绘图仪</translation>
    </message>
    <message>
        <source>Sair(&amp;S)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Para a plotagem atual; Save the task</source>
        <translation>停止当前打印并退出程序</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>+20%	 Shift  A</source>
        <translation>放大 20%	Shift+A</translation>
    </message>
    <message>
        <source>Zoom no arquivo</source>
        <translation>放大显示</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>-20%	 Shift  Z</source>
        <translation>缩小 20%	Shift+Z</translation>
    </message>
    <message>
        <source>Zoom menor</source>
        <translation>缩小显示</translation>
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
        <translation>按比例显示(&amp;D)</translation>
    </message>
    <message>
        <source>Exibe o arquivo selecionado</source>
        <translation>显示所选文件</translation>
    </message>
    <message>
        <source>Configurações(&amp;C)</source>
        <translation>设置(&amp;C)...</translation>
    </message>
    <message>
        <source>Configura os parametros da plotter</source>
        <translation>设置绘图仪参数</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Sobre(&amp;A)</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Exibe o numero da versão</source>
        <translation>显示版本号</translation>
    </message>
    <message>
        <source>About this Software</source>
        <translation>关于本软件</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Plota o arquivo selecionado</source>
        <translation>打印所选文件</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>中止(&amp;A)</translation>
    </message>
    <message>
        <source>Aborta a plotagem </source>
        <translation>中止打印</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>增加一份(&amp;C)</translation>
    </message>
    <message>
        <source>Incrementa o tempo de plotagem</source>
        <translation>所选任务增加一份</translation>
    </message>
    <message>
        <source>Increase times</source>
        <translation>增加份数</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>减少一份(&amp;R)</translation>
    </message>
    <message>
        <source>Diminui o tempo de plotagem</source>
        <translation>所选任务减少一份</translation>
    </message>
    <message>
        <source>Decrease times</source>
        <translation>减少份数</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>输出预览(&amp;O)</translation>
    </message>
    <message>
        <source>Previsualiza o arquivo plotado</source>
        <translation>预览打印输出</translation>
    </message>
    <message>
        <source>Preview output</source>
        <translation>输出预览</translation>
    </message>
    <message>
        <source>Visualizar(&amp;V)</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Visualizar(&amp;A)</source>
        <translation>缩放(&amp;Z)</translation>
    </message>
    <message>
        <source>Configurações(&amp;S)</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>Ajuda(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>The printing task is running, please waiting or cancel the task!</source>
        <translation>正在打印任务，请等待任务完成或先中止任务！</translation>
    </message>
    <message>
        <source>please waiting or cancel the task!</source>
        <translation>请等待任务完成或先中止任务！</translation>
    </message>
</context>
<context>
    <name>CMarquellApp</name>
    <message numerus="yes">
        <source>%n file(s) were copied into its task folder %1.</source>
        <translation>
            <numerusform>%n 个文件已复制到它的任务文件夹 %1。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>COthersConfigDlg</name>
    <message>
        <source>Selecione o diretório de trabalho:</source>
        <translation>工作目录：</translation>
    </message>
    <message>
        <source>Selecionar</source>
        <translation>选择...</translation>
    </message>
    <message>
        <source>Configuração da fonte</source>
        <translation>字体设置</translation>
    </message>
    <message>
        <source>Tamanho da fonte:</source>
        <translation>字号：</translation>
    </message>
    <message>
        <source>请选择工作目录</source>
        <translation>请选择工作目录</translation>
    </message>
    <message>
        <source>未指定工作目录!</source>
        <translation>未指定工作目录！</translation>
    </message>
</context>
<context>
    <name>CParamConfigDlg</name>
    <message>
        <source>Origin Point:</source>
        <translation>原点：</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Ajuste de Escala</source>
        <translation>比例校准</translation>
    </message>
    <message>
        <source>X-Plotado:</source>
        <translation>X 打印长度：</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Y-Plotado:</source>
        <translation>Y 打印长度：</translation>
    </message>
    <message>
        <source>X-Real:</source>
        <translation>X 实测长度：</translation>
    </message>
    <message>
        <source>Y-Real:</source>
        <translation>Y 实测长度：</translation>
    </message>
    <message>
        <source>Espelhar</source>
        <translation>镜像</translation>
    </message>
    <message>
        <source>Plotar Automatico</source>
        <translation>自动打印</translation>
    </message>
    <message>
        <source>Rotacionar 90 Graus</source>
        <translation>旋转 90 度</translation>
    </message>
    <message>
        <source>Horario</source>
        <translation>顺时针</translation>
    </message>
    <message>
        <source>Ante horario</source>
        <translation>逆时针</translation>
    </message>
    <message>
        <source>Fator de junção</source>
        <translation>拼接补偿</translation>
    </message>
    <message>
        <source>Usar fator de junção</source>
        <translation>使用拼接补偿</translation>
    </message>
    <message>
        <source>Decreasement</source>
        <translation>减去</translation>
    </message>
    <message>
        <source>Definir</source>
        <translation>设定</translation>
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
        <translation>%1：数值必须在 -%2 到 %2 HPP 之间。</translation>
    </message>
    <message>
        <source>%1: o comprimento deve ser um número positivo.</source>
        <translation>%1：长度必须为正数。</translation>
    </message>
    <message>
        <source>%1 / %2: a escala resultante é inválida.</source>
        <translation>%1 / %2：得出的比例无效。</translation>
    </message>
    <message>
        <source>Espessura Linha: o valor deve estar entre %1 e %2 HPP.</source>
        <translation>线宽：数值必须在 %1 到 %2 HPP 之间。</translation>
    </message>
    <message>
        <source>Offset No.%1</source>
        <translation>%1号偏移</translation>
    </message>
    <message>
        <source>OffsetCorrect No.%1</source>
        <translation>%1号偏移校正</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>喷头宽度</translation>
    </message>
    <message>
        <source>Pixel por 1000mm: o valor máximo é %1.</source>
        <translation>每 1000 mm 像素数：最大值为 %1。</translation>
    </message>
    <message>
        <source>Y-Step Values: o valor multiplicado pela quantidade de cartuchos excede o limite.</source>
        <translation>Y 步进值：该值乘以墨盒数量后超出上限。</translation>
    </message>
    <message>
        <source>Origin Point: o valor em pontos excede o limite.</source>
        <translation>原点：换算成点数后超出上限。</translation>
    </message>
    <message>
        <source>X-Plotado</source>
        <translation>X 打印长度</translation>
    </message>
    <message>
        <source>X-Real</source>
        <translation>X 实测长度</translation>
    </message>
    <message>
        <source>Y-Plotado</source>
        <translation>Y 打印长度</translation>
    </message>
    <message>
        <source>Y-Real</source>
        <translation>Y 实测长度</translation>
    </message>
    <message>
        <source>Selecione o diretório de trabalho: o sistema não aceita este caminho (no máximo %1 bytes, %2 por nome, numa só linha).</source>
        <translation>工作目录：系统不接受此路径（最多 %1 字节，每个名称最多 %2 字节，且只能占一行）。</translation>
    </message>
</context>
<context>
    <name>CStatusBar</name>
    <message>
        <source>Exibe o progresso da tarefa.............</source>
        <extracomment>Under the progress bar; sets its width.</extracomment>
        <translation>显示任务进度..........................</translation>
    </message>
    <message>
        <source>Offline  </source>
        <extracomment>Width of the link pane: &quot;Online&quot; or &quot;Offline&quot;.</extracomment>
        <translation>未连接    </translation>
    </message>
    <message>
        <source>Waiting  </source>
        <extracomment>Width of the task pane: &quot;Waiting&quot;, &quot;Plotting&quot; or &quot;Finished&quot;.</extracomment>
        <translation>等待中    </translation>
    </message>
    <message>
        <source>Pause  </source>
        <extracomment>Width of the plotter pane: &quot;Stopped&quot;, &quot;Plot&quot; or &quot;结束&quot;.</extracomment>
        <translation>已停止    </translation>
    </message>
    <message>
        <source>Pronto</source>
        <translation>就绪</translation>
    </message>
</context>
<context>
    <name>CSystemConfigDlg</name>
    <message>
        <source> No.1</source>
        <translation> 1号</translation>
    </message>
    <message>
        <source>No.2</source>
        <translation>2号</translation>
    </message>
    <message>
        <source>No.3</source>
        <translation>3号</translation>
    </message>
    <message>
        <source>No.4</source>
        <translation>4号</translation>
    </message>
    <message>
        <source>Um</source>
        <translation>一</translation>
    </message>
    <message>
        <source>Dois</source>
        <translation>二</translation>
    </message>
    <message>
        <source>Tres</source>
        <translation>三</translation>
    </message>
    <message>
        <source>Quatro</source>
        <translation>四</translation>
    </message>
    <message>
        <source>Espessura Linha:</source>
        <translation>线宽：</translation>
    </message>
    <message>
        <source>HPP</source>
        <translation>HPP</translation>
    </message>
    <message>
        <source>Quantidade de cartuchos</source>
        <translation>墨盒数量</translation>
    </message>
    <message>
        <source>Habilitar         Offset                 OffsetCorrect</source>
        <translation>启用           偏移                    偏移校正</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>喷头宽度</translation>
    </message>
    <message>
        <source>Compressed</source>
        <translation>压缩</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Informação</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>无效操作</translation>
    </message>
    <message>
        <source>The plotter is working. Please waiting for this plotting task finished!</source>
        <translation>绘图仪正在打印此任务，请等待打印完成！</translation>
    </message>
    <message>
        <source>The printer is not connected, you cannot update the configuration.</source>
        <translation>绘图仪未连接，无法更新设置。</translation>
    </message>
    <message>
        <source>通信不可靠，请检查USB线路! 需要继续重试，请选择YES</source>
        <extracomment>Asked after five bad checksums in a row; Yes sends the segment again, No gives the job up.</extracomment>
        <translation>通信不可靠，请检查 USB 线路！如需继续重试，请选择“是”。</translation>
    </message>
    <message>
        <source>创建日志文件失败！</source>
        <translation>创建日志文件失败！</translation>
    </message>
    <message>
        <source>打印数据尺寸超出范围，无法打印！</source>
        <translation>打印数据尺寸超出范围，无法打印！</translation>
    </message>
    <message>
        <source>打印压缩缓冲区分配失败！</source>
        <translation>打印压缩缓冲区分配失败！</translation>
    </message>
    <message>
        <source>喷头配置有误，请检查！</source>
        <translation>喷头配置有误，请检查！</translation>
    </message>
    <message>
        <source>数据段宽度有误！</source>
        <translation>数据段宽度有误！</translation>
    </message>
    <message>
        <source>字体不支持</source>
        <extracomment>The label font has outlines of a kind the program cannot draw (cubic curves).</extracomment>
        <translation>字体不支持</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>无法读取该文件</translation>
    </message>
    <message>
        <source>the file was not found</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>找不到该文件</translation>
    </message>
    <message>
        <source>its print data cannot be allocated</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>无法为其分配打印数据</translation>
    </message>
    <message>
        <source>it holds none of the settings</source>
        <extracomment>Why config.ini was not read: the file has none of the program&apos;s sections.</extracomment>
        <translation>文件中没有任何设置</translation>
    </message>
    <message>
        <source>the file could not be read</source>
        <extracomment>Why config.ini was not read.</extracomment>
        <translation>无法读取该文件</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <extracomment>Why config.ini was not saved.</extracomment>
        <translation>无法写入该文件</translation>
    </message>
    <message>
        <source>another program</source>
        <extracomment>Who holds the lock of a task folder or a log, when it does not say its name.</extracomment>
        <translation>另一个程序</translation>
    </message>
    <message>
        <source>Cannot plot %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>无法打印 %1：%2</translation>
    </message>
    <message>
        <source>The settings were not saved to %1: %2</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>设置未能保存到 %1：%2</translation>
    </message>
    <message>
        <source>The settings in %1 were not read (%2); the program runs on the default settings</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>未能读取 %1 中的设置（%2），程序正在使用默认设置运行</translation>
    </message>
    <message>
        <source>The task folder %1 is served by %2; this program does not print from it while that one runs.</source>
        <extracomment>%1: the task folder, %2: the program that serves it.</extracomment>
        <translation>任务文件夹 %1 正由 %2 管理；在其运行期间，本程序不会从该文件夹打印。</translation>
    </message>
    <message>
        <source>The task folder %1 cannot be served: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>无法管理任务文件夹 %1：%2</translation>
    </message>
    <message>
        <source>Tessaline already runs with these settings: %1 writes the log %2.</source>
        <extracomment>%1: the program already running, %2: its log file.</extracomment>
        <translation>Tessaline 已在使用这些设置运行：%1 正在写入日志 %2。</translation>
    </message>
    <message>
        <source>The log %1 cannot be locked: %2</source>
        <extracomment>%1: the log file, %2: the reason.</extracomment>
        <translation>无法锁定日志 %1：%2</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <extracomment>%1: a program&apos;s name, %2: its process number.</extracomment>
        <translation>%1（进程 %2）</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>cannot lock %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>无法锁定 %1：%2</translation>
    </message>
    <message>
        <source>the file is empty: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>文件为空：其中没有图形</translation>
    </message>
    <message>
        <source>the file is too large to plot</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>文件太大，无法打印</translation>
    </message>
    <message>
        <source>not a plot file: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>不是打印文件：其中没有图形</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;: the file has plot instructions but nothing is drawn.</extracomment>
        <translation>文件中没有图形</translation>
    </message>
    <message>
        <source>the task folder is missing</source>
        <extracomment>Why a printed file or a deleted row&apos;s file stays: the share or folder it was in is gone.</extracomment>
        <translation>任务文件夹不存在</translation>
    </message>
    <message>
        <source>not a folder</source>
        <extracomment>Why the task folder cannot be created: a file of that name is in the way.</extracomment>
        <translation>不是文件夹</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Why a printed file was kept: it was overwritten while it printed.</extracomment>
        <translation>文件已被新版本替换</translation>
    </message>
    <message>
        <source>it changed since it was listed</source>
        <extracomment>Why a file was kept by Delete: it was overwritten after the operator saw it.</extracomment>
        <translation>它在列出后已被修改</translation>
    </message>
    <message>
        <source>the file cannot be read (%1)</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;. %1: the system&apos;s error text.</extracomment>
        <translation>无法读取该文件（%1）</translation>
    </message>
    <message>
        <source>The task folder %1 is missing: no job starts until it is back</source>
        <extracomment>%1: the task folder (a share that went away or a folder removed).</extracomment>
        <translation>任务文件夹 %1 不存在：在其恢复之前不会开始任何任务</translation>
    </message>
    <message>
        <source>The task folder %1 is back</source>
        <extracomment>%1: the task folder.</extracomment>
        <translation>任务文件夹 %1 已恢复</translation>
    </message>
    <message>
        <source>Cannot create the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>无法创建任务文件夹 %1：%2</translation>
    </message>
    <message>
        <source>Cannot list the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the system&apos;s error text.</extracomment>
        <translation>无法列出任务文件夹 %1：%2</translation>
    </message>
    <message>
        <source>Cannot save the queue state in %1: %2</source>
        <extracomment>%1: the queue&apos;s state file&apos;s folder, %2: the system&apos;s error text.</extracomment>
        <translation>无法在 %1 中保存队列状态：%2</translation>
    </message>
    <message>
        <source>Kept %1: %2; queued as a new job</source>
        <extracomment>%1: a plot file, %2: why it was kept.</extracomment>
        <translation>已保留 %1：%2；已作为新任务加入队列</translation>
    </message>
    <message>
        <source>%1 changed since it was listed; it was kept as a new job.</source>
        <extracomment>Delete found the file overwritten. %1: the plot file.</extracomment>
        <translation>%1 在列出后已被修改；已作为新任务保留。</translation>
    </message>
    <message>
        <source>Plotted %1, but the file cannot be removed: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>%1 已打印，但无法删除该文件：%2</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>无法删除 %1：%2</translation>
    </message>
    <message>
        <source>Cannot add %1: %2</source>
        <extracomment>Open could not copy a file into the task folder. %1: the file, %2: the reason.</extracomment>
        <translation>无法添加 %1：%2</translation>
    </message>
    <message>
        <source>the task folder %1 is not there</source>
        <extracomment>A reason in &quot;Cannot add %1: %2&quot;. %1: the task folder.</extracomment>
        <translation>任务文件夹 %1 不存在</translation>
    </message>
</context>
<context>
    <name>StatusPane</name>
    <message>
        <source>Online</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>The task: no job prints.</extracomment>
        <translation>等待中</translation>
    </message>
    <message>
        <source>Plotting</source>
        <extracomment>The task: a job prints.</extracomment>
        <translation>打印中</translation>
    </message>
    <message>
        <source>Finished</source>
        <extracomment>The task: the last job has ended.</extracomment>
        <translation>已完成</translation>
    </message>
    <message>
        <source>Stopped</source>
        <extracomment>The plotter: not printing (at start-up).</extracomment>
        <translation>已停止</translation>
    </message>
    <message>
        <source>Plot</source>
        <extracomment>The plotter: printing a job.</extracomment>
        <translation>打印中</translation>
    </message>
    <message>
        <source>结束</source>
        <extracomment>The plotter: the last copy of a job is printed and the job is gone from the list.</extracomment>
        <translation>结束</translation>
    </message>
</context>
<context>
    <name>TaskRow</name>
    <message>
        <source>Not plot</source>
        <extracomment>Held: never started automatically.</extracomment>
        <translation>暂不打印</translation>
    </message>
    <message>
        <source>Waitting</source>
        <extracomment>Queued: a new file while automatic plotting is on.</extracomment>
        <translation>等待打印</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>Queued: by the Plot command, or a printed job with copies left.</extracomment>
        <translation>等待打印</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>正在打印</translation>
    </message>
    <message>
        <source>the print did not complete</source>
        <extracomment>Details of a row held because its print stopped before the end.</extracomment>
        <translation>打印未完成</translation>
    </message>
    <message>
        <source>the file is still arriving</source>
        <extracomment>Details of a new row whose size or time still changes (a copy over the network in progress).</extracomment>
        <translation>文件仍在传输中</translation>
    </message>
    <message>
        <source>interrupted</source>
        <extracomment>Details of a row that was printing when the program ended: how much was printed is unknown.</extracomment>
        <translation>已中断</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>Details of a row whose file has plot instructions but nothing drawn.</extracomment>
        <translation>文件中没有图形</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Details of a row whose file was overwritten while it printed; the new version is a new job.</extracomment>
        <translation>文件已被新版本替换</translation>
    </message>
    <message>
        <source>plotted; the file cannot be removed (%1)</source>
        <extracomment>Details of a printed row whose file stays. %1: the reason.</extracomment>
        <translation>已打印；无法删除该文件（%1）</translation>
    </message>
</context>
</TS>
